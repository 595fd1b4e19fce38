# What the shipped files share, for each Windows build (included by the top
# CMakeLists.txt):
# - one version, the project's: the version resource, the manifest and the
#   MSI take it from here;
# - one reproducible build: the same commit gives the same bytes in any
#   folder at any time (SOURCE_DATE_EPOCH, no time stamp in the PE header,
#   no build path in any file);
# - Authenticode signatures (SHA-256, osslsigncode) when a key is given:
#     PRNWIZARD_SIGN_KEY        the private key (PEM, unencrypted)
#     PRNWIZARD_SIGN_CERT       its certificate and chain (PEM)
#     PRNWIZARD_SIGN_TIMESTAMP  optional: an RFC 3161 time-stamp server's URL
#   read from the environment when the build is configured.

# The exe's file name: PrnWizard, or PrnWizard64 for the 64-bit wizard the
# 32-bit build makes beside its own (app/CMakeLists.txt).
set(PRNWIZARD_EXE_NAME PrnWizard CACHE STRING "The wizard's file name, without .exe")

# The time the build stands for: the 32-bit build's, for its 64-bit part;
# else SOURCE_DATE_EPOCH when given, else the last commit's time (a commit
# configures again).
if(DEFINED CACHE{PRNWIZARD_PARENT_EPOCH})
  set(PRNWIZARD_EPOCH "${PRNWIZARD_PARENT_EPOCH}")
elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(PRNWIZARD_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE PRNWIZARD_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_failed ERROR_QUIET)
  execute_process(COMMAND git rev-parse --absolute-git-dir WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(git_failed OR NOT PRNWIZARD_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No SOURCE_DATE_EPOCH and no git history: set SOURCE_DATE_EPOCH to the "
                        "time (seconds since 1970) the build stands for.")
  endif()
  if(EXISTS ${git_dir}/logs/HEAD)
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${git_dir}/logs/HEAD)
  endif()
endif()
if(NOT PRNWIZARD_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: ${PRNWIZARD_EPOCH}")
endif()

# No folder of the build in any file, no time in the PE header.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>)
add_link_options(-Wl,--no-insert-timestamp)

# The architecture as the manifest and the MSI name it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PRNWIZARD_MANIFEST_ARCH amd64)
  set(PRNWIZARD_MSI_ARCH x64)
else()
  set(PRNWIZARD_MANIFEST_ARCH x86)
  set(PRNWIZARD_MSI_ARCH x86)
endif()
# MSI versions have three fields (the fourth would be ignored).
set(PRNWIZARD_MSI_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})

# Signing.
# The 64-bit part of the 32-bit build takes the 32-bit build's, given as
# cache variables, since it may configure again later without them in the
# environment.
foreach(var PRNWIZARD_SIGN_KEY PRNWIZARD_SIGN_CERT PRNWIZARD_SIGN_TIMESTAMP)
  if(NOT DEFINED CACHE{${var}})
    set(${var} "$ENV{${var}}")
  endif()
endforeach()
if(PRNWIZARD_SIGN_KEY OR PRNWIZARD_SIGN_CERT)
  if(NOT PRNWIZARD_SIGN_KEY OR NOT PRNWIZARD_SIGN_CERT)
    message(FATAL_ERROR "Signing needs both PRNWIZARD_SIGN_KEY and PRNWIZARD_SIGN_CERT.")
  endif()
  foreach(file ${PRNWIZARD_SIGN_KEY} ${PRNWIZARD_SIGN_CERT})
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "Signing: no file ${file}")
    endif()
  endforeach()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  set(PRNWIZARD_SIGNED ON)
  # A new key or certificate signs again.
  set(PRNWIZARD_SIGN_FILES ${PRNWIZARD_SIGN_KEY} ${PRNWIZARD_SIGN_CERT})
  # The signing time is the build's, so that a signature made again with the
  # same key is the same; a time-stamp server's answer is not.
  set(sign_args sign -certs ${PRNWIZARD_SIGN_CERT} -key ${PRNWIZARD_SIGN_KEY} -h sha256
      -time ${PRNWIZARD_EPOCH} -n "Printer Sharing Server Setup Wizard")
  if(PRNWIZARD_SIGN_TIMESTAMP)
    list(APPEND sign_args -ts ${PRNWIZARD_SIGN_TIMESTAMP})
  endif()
  message(STATUS "Signing with ${PRNWIZARD_SIGN_CERT}")
else()
  set(PRNWIZARD_SIGNED OFF)
  set(PRNWIZARD_SIGN_FILES "")
endif()

# Appends to the list `var` the custom-command steps that sign `file` in
# place (none when unsigned).
function(sign_steps var file)
  if(PRNWIZARD_SIGNED)
    set(${var} ${${var}} COMMAND ${OSSLSIGNCODE} ${sign_args} -in ${file} -out ${file}.signed
        COMMAND ${CMAKE_COMMAND} -E rename ${file}.signed ${file} PARENT_SCOPE)
  endif()
endfunction()

# Signs a shipped exe or DLL target as soon as it is linked, before anything
# packs it.
function(sign_target target)
  set(steps "")
  sign_steps(steps $<TARGET_FILE:${target}>)
  if(steps)
    add_custom_command(TARGET ${target} POST_BUILD ${steps} VERBATIM)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PRNWIZARD_SIGN_FILES})
  endif()
endfunction()
