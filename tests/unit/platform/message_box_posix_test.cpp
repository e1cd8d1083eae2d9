// The headless message box: nothing is on a screen, so every box takes its first button.
#include <gtest/gtest.h>

#include "platform/message_box.h"

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

TEST(MessageBox, EveryBoxTakesItsFirstButton) {
    EXPECT_EQ(platform::showMessageBox("a", "", MessageIcon::error, MessageButtons::ok),
              MessageResult::ok);
    EXPECT_EQ(platform::showMessageBox("b", "", MessageIcon::information, MessageButtons::okCancel),
              MessageResult::ok);
    EXPECT_EQ(platform::showMessageBox("c", "", MessageIcon::question, MessageButtons::yesNo),
              MessageResult::yes);
    EXPECT_EQ(platform::showMessageBox("d", "", MessageIcon::warning, MessageButtons::yesNoCancel),
              MessageResult::yes);
}
