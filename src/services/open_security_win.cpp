#include "services/open_security_win.h"

#include <cstdint>

namespace vellix {
namespace {

class OpenSecurityAttributes {
 public:
  OpenSecurityAttributes() { built_ = Build(); }
  ~OpenSecurityAttributes() {
    if (everyone_) FreeSid(everyone_);
  }
  SECURITY_ATTRIBUTES* Get() { return built_ ? &attributes_ : nullptr; }

 private:
  bool Build() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone_))
      return false;
    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone_);
    if (aclSize > sizeof acl_) return false;
    auto* acl = reinterpret_cast<ACL*>(acl_);
    if (!InitializeAcl(acl, sizeof acl_, ACL_REVISION)) return false;
    if (!AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL | STANDARD_RIGHTS_ALL | SPECIFIC_RIGHTS_ALL,
                             everyone_))
      return false;
    if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) return false;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
    return true;
  }

  bool built_ = false;
  PSID everyone_ = nullptr;
  alignas(8) uint8_t acl_[256] = {};
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
};

}  // namespace

SECURITY_ATTRIBUTES* OpenSecurity() {
  // Kept for the life of the process: objects created with it may be created at any time.
  static OpenSecurityAttributes* const attributes = new OpenSecurityAttributes();
  return attributes->Get();
}

}  // namespace vellix
