#include <deque>

#include "platform/message_box.h"
#include "platform/message_box_script.h"

namespace platform {

namespace {

std::deque<MessageResult>& queuedAnswers() {
    static std::deque<MessageResult> answers;
    return answers;
}

std::vector<message_box_script::RecordedBox>& recordedBoxes() {
    static std::vector<message_box_script::RecordedBox> boxes;
    return boxes;
}

MessageResult firstButton(MessageButtons buttons) {
    return buttons == MessageButtons::ok || buttons == MessageButtons::okCancel
               ? MessageResult::ok
               : MessageResult::yes;
}

}  // namespace

MessageResult showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons, void*) {
    MessageResult answer = firstButton(buttons);
    if (!queuedAnswers().empty()) {
        answer = queuedAnswers().front();
        queuedAnswers().pop_front();
    }
    recordedBoxes().push_back({text, caption, icon, buttons, answer});
    return answer;
}

namespace message_box_script {

void queueAnswer(MessageResult answer) {
    queuedAnswers().push_back(answer);
}

const std::vector<RecordedBox>& shownBoxes() {
    return recordedBoxes();
}

void clear() {
    queuedAnswers().clear();
    recordedBoxes().clear();
}

}  // namespace message_box_script

}  // namespace platform
