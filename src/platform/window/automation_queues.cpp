#include "platform/window/automation_queues.h"

namespace ui {

ModalScript AutomationQueues::TakeModalScript() {
    if (modalScripts_.empty()) return nullptr;
    ModalScript script = std::move(modalScripts_.front());
    modalScripts_.pop_front();
    return script;
}

std::optional<Text> AutomationQueues::AnswerFileDialog(const FileDialogRequest& request) {
    fileRequests_.push_back(request);
    if (fileAnswers_.empty()) return std::nullopt;
    std::optional<Text> answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

void AutomationQueues::RequestExit(int exitCode) {
    if (!exitRequested_) exitRequested_ = exitCode;
}

}  // namespace ui
