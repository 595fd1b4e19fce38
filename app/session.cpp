#include "app/session.h"

#include <cctype>

namespace app {

namespace {
bool sameAccount(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}
}  // namespace

bool Session::unseen() const {
  return account.system || (id && *id == 0 && osMajorVersion >= 6);
}

bool Session::signedInUsersOwn() const {
  if (account.system) return false;
  if (!signedIn) return true;  // no sessions to tell by: the process is the user's
  return !signedIn->empty() && sameAccount(*signedIn, account.name);
}

std::string Session::describe() const {
  std::string who = account.system ? "SYSTEM"
                    : account.name.empty() ? std::string("an account that cannot be named")
                                           : account.name;
  if (id) who += " in session " + std::to_string(*id);
  if (signedIn && !signedInUsersOwn())
    who += signedIn->empty() ? std::string(" (nobody is signed in there)")
                             : " (signed in there: " + *signedIn + ")";
  return who;
}

Session currentSession(platform::Windows& os, bool whoIsSignedIn) {
  Session s;
  s.osMajorVersion = os.osMajorVersion();
  platform::Account account;
  if (os.processAccount(account) == platform::kOk) s.account = account;
  std::uint32_t id = 0;
  if (os.sessionId(id) == platform::kOk) {
    s.id = id;
    std::string user;
    if (whoIsSignedIn && os.sessionUser(id, user) == platform::kOk) s.signedIn = user;
  }
  return s;
}

}  // namespace app
