// Test hooks of the headless message box: every box is recorded and answered from a queue.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace platform::message_box_script {

struct RecordedBox {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
    MessageResult answer;
};

// The next box takes the oldest queued answer; with the queue empty it takes its first button
// (OK or Yes), as pressing Enter would.
void queueAnswer(MessageResult answer);
// The boxes shown since the last clear, oldest first.
const std::vector<RecordedBox>& shownBoxes();
// Forgets the recorded boxes and the queued answers.
void clear();

}  // namespace platform::message_box_script
