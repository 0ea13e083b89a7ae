#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "ui/proxy_dialog.h"

namespace px::ui {
namespace {

TEST(ProxyDialog, ModesAndFields) {
  ProxySettings stored{7, "proxy.local", 3128, "me", "secret", true};
  ProxyDialog odd(stored);
  EXPECT_TRUE(odd.NoneButton()->isChecked());  // an unknown mode shows as none
  EXPECT_FALSE(odd.ServerField()->isEnabled());
  EXPECT_EQ(odd.Result().mode, 0);
  EXPECT_FALSE(odd.Result().saved);

  stored.mode = 2;
  ProxyDialog manual(stored);
  EXPECT_TRUE(manual.ManualButton()->isChecked());
  EXPECT_TRUE(manual.PortField()->isEnabled());
  manual.PortField()->setValue(8080);
  ProxySettings r = manual.Result();
  EXPECT_EQ(r.mode, 2);
  EXPECT_EQ(r.server, "proxy.local");
  EXPECT_EQ(r.port, 8080);
  EXPECT_EQ(r.password, "secret");

  // The automatic search forgets the server chosen by hand.
  manual.AutoButton()->setChecked(true);
  EXPECT_FALSE(manual.UserField()->isEnabled());
  r = manual.Result();
  EXPECT_EQ(r.mode, 1);
  EXPECT_EQ(r.server, "");
  EXPECT_EQ(r.user, "");
  EXPECT_EQ(r.password, "");
}

}  // namespace
}  // namespace px::ui
