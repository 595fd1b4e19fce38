// JPEG through libjpeg.  libjpeg reports fatal errors by calling error_exit,
// which must not return: it jumps back with longjmp.  The function holding
// the setjmp owns no C++ objects, and all state lives in a Job made by the
// caller, so the jump skips no destructors.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "pictures/image.h"

namespace pictures {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;  // first, so that a jpeg_error_mgr* is an ErrorManager*
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failJpeg(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

void onError(j_common_ptr cinfo) { failJpeg(cinfo); }

// Warnings stay quiet (libjpeg would print them to stderr), except that data
// ending before the image does is a failure, not a picture half grey.
void onMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) failJpeg(cinfo);
}

void quiet(j_common_ptr) {}

struct Job {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  bool created = false;
  Image image;
  const char* failure = nullptr;  // set for failures found here, not by libjpeg
};

std::uint8_t clampByte(unsigned v) { return static_cast<std::uint8_t>(v > 255 ? 255 : v); }

// Returns false on failure: job.failure or job.errors.message says why.
bool run(Job& job, std::span<const std::uint8_t> data) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  cinfo.err = jpeg_std_error(&job.errors.base);
  job.errors.base.error_exit = onError;
  job.errors.base.emit_message = onMessage;
  job.errors.base.output_message = quiet;
  if (setjmp(job.errors.jump)) return false;

  jpeg_create_decompress(&cinfo);
  job.created = true;
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (!sizeAccepted(cinfo.image_width, cinfo.image_height)) {
    job.failure = "JPEG: picture empty or too large";
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const unsigned components = static_cast<unsigned>(cinfo.output_components);
  if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
      components != (cmyk ? 4u : 3u)) {
    job.failure = "JPEG: unexpected output format";
    return false;
  }

  job.image = Image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  // Pool memory: freed by jpeg_destroy_decompress, whatever happens.
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             cinfo.output_width * components, 1);
  // Adobe writes CMYK inverted (0 is full ink).
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
      job.failure = "JPEG: data ends early";
      return false;
    }
    std::uint8_t* out = job.image.bgr.data() + job.image.offset(0, y);
    if (!cmyk) {
      std::memcpy(out, row[0], cinfo.output_width * 3u);
      continue;
    }
    for (JDIMENSION x = 0; x < cinfo.output_width; ++x, out += 3) {
      const JSAMPLE* p = row[0] + x * 4u;
      unsigned c = p[0], m = p[1], yel = p[2], k = p[3];
      if (!inverted) c = 255 - c, m = 255 - m, yel = 255 - yel, k = 255 - k;
      out[0] = clampByte(yel * k / 255);
      out[1] = clampByte(m * k / 255);
      out[2] = clampByte(c * k / 255);
    }
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

DecodeResult decodeJpeg(std::span<const std::uint8_t> data) {
  if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8)
    return DecodeResult::failure("JPEG: no start-of-image marker");
  std::unique_ptr<Job> job;
  bool ok = false;
  std::string error;
  try {
    job = std::make_unique<Job>();  // value-initialised: libjpeg's structs start zeroed
    ok = run(*job, data);
    if (!ok) error = job->failure ? job->failure : std::string("JPEG: ") + job->errors.message;
  } catch (const std::bad_alloc&) {
    error = "JPEG: out of memory";
  }
  if (job && job->created) jpeg_destroy_decompress(&job->cinfo);
  if (!ok) return DecodeResult::failure(error);
  Picture picture;
  picture.frames.push_back(Frame{std::move(job->image), 0});
  return DecodeResult::success(std::move(picture));
}

}  // namespace pictures
