// The headless message box: recorded for tests and answered from their script.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/message_box_script.h"

namespace script = platform::message_box_script;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

class MessageBox : public ::testing::Test {
  protected:
    void SetUp() override { script::clear(); }
    void TearDown() override { script::clear(); }
};

TEST_F(MessageBox, ScriptedAnswersAreTakenInOrderAndEveryBoxIsRecorded) {
    script::queueAnswer(MessageResult::no);
    script::queueAnswer(MessageResult::cancel);
    EXPECT_EQ(platform::showMessageBox("Save?", "Tarnwick", MessageIcon::question,
                                       MessageButtons::yesNoCancel),
              MessageResult::no);
    EXPECT_EQ(platform::showMessageBox("Go on?", "Tarnwick", MessageIcon::warning,
                                       MessageButtons::okCancel),
              MessageResult::cancel);
    ASSERT_EQ(script::shownBoxes().size(), 2u);
    const script::RecordedBox& first = script::shownBoxes()[0];
    EXPECT_EQ(first.text, "Save?");
    EXPECT_EQ(first.caption, "Tarnwick");
    EXPECT_EQ(first.icon, MessageIcon::question);
    EXPECT_EQ(first.buttons, MessageButtons::yesNoCancel);
    EXPECT_EQ(first.answer, MessageResult::no);
}

TEST_F(MessageBox, WithoutAScriptedAnswerTheFirstButtonIsPressed) {
    EXPECT_EQ(platform::showMessageBox("a", "", MessageIcon::error, MessageButtons::ok),
              MessageResult::ok);
    EXPECT_EQ(platform::showMessageBox("b", "", MessageIcon::information, MessageButtons::okCancel),
              MessageResult::ok);
    EXPECT_EQ(platform::showMessageBox("c", "", MessageIcon::question, MessageButtons::yesNo),
              MessageResult::yes);
    EXPECT_EQ(script::shownBoxes().size(), 3u);
    script::clear();
    EXPECT_TRUE(script::shownBoxes().empty());
}
