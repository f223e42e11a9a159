#include "services/open_security_win.h"

#include <gtest/gtest.h>

#include <aclapi.h>

namespace vellix {
namespace {

TEST(OpenSecurityTest, GrantsEveryoneAllAccessWithoutInheritance) {
  SECURITY_ATTRIBUTES* attributes = OpenSecurity();
  ASSERT_NE(attributes, nullptr);
  EXPECT_EQ(attributes, OpenSecurity());
  EXPECT_FALSE(attributes->bInheritHandle);

  BOOL present = FALSE, defaulted = FALSE;
  ACL* acl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
  ASSERT_TRUE(present);
  ASSERT_NE(acl, nullptr);
  ASSERT_EQ(acl->AceCount, 1);
  ACCESS_ALLOWED_ACE* ace = nullptr;
  ASSERT_TRUE(GetAce(acl, 0, reinterpret_cast<void**>(&ace)));
  EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
  EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), 0);
  EXPECT_TRUE(ace->Mask & GENERIC_ALL);
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  EXPECT_TRUE(EqualSid(everyone, &ace->SidStart));
  FreeSid(everyone);

  HANDLE event = CreateEventW(attributes, TRUE, TRUE, L"Local\\Vellix_OpenSecurityTest");
  ASSERT_NE(event, nullptr);
  HANDLE opened = OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Local\\Vellix_OpenSecurityTest");
  EXPECT_NE(opened, nullptr);
  CloseHandle(opened);
  CloseHandle(event);
}

}  // namespace
}  // namespace vellix
