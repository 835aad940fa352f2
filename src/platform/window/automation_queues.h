#pragma once
// What a test lines up for the moments a desktop would wait for a person
// (modal windows, file dialogs), and the record of what the program asked of
// them (message boxes, file dialogs, exits, pop-up menus): one for both
// desktops.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/window/automation.h"

namespace ui {

using ModalScript = std::function<void(WindowPeer&)>;

class AutomationQueues {
  public:
    void OnNextModal(ModalScript script) { modalScripts_.push_back(std::move(script)); }
    // The script of the modal loop starting now; empty when none is queued.
    ModalScript TakeModalScript();

    void AnswerNextFileDialog(std::optional<Text> path) { fileAnswers_.push_back(std::move(path)); }
    // Records the request and gives the next queued answer; with none left
    // the dialog is cancelled.
    std::optional<Text> AnswerFileDialog(const FileDialogRequest& request);
    const std::vector<FileDialogRequest>& FileDialogsShown() const { return fileRequests_; }

    void RecordMessage(MessageRecord record) { messages_.push_back(std::move(record)); }
    const std::vector<MessageRecord>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); }

    // The first request counts: the process would be gone after it.
    void RequestExit(int exitCode);
    std::optional<int> ExitRequested() const { return exitRequested_; }

    void RecordPopUp(const Text& barCaption) { lastPopUp_ = barCaption; }
    std::optional<Text> LastPopUp() const { return lastPopUp_; }

  private:
    std::deque<ModalScript> modalScripts_;
    std::deque<std::optional<Text>> fileAnswers_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<MessageRecord> messages_;
    std::optional<int> exitRequested_;
    std::optional<Text> lastPopUp_;
};

// The queue half of Automation, the same on every desktop.
class QueuedAutomation : public Automation {
  public:
    const std::vector<MessageRecord>& Messages() override { return Queues().Messages(); }
    void ClearMessages() override { Queues().ClearMessages(); }
    void OnNextModal(ModalScript script) override { Queues().OnNextModal(std::move(script)); }
    void AnswerNextFileDialog(std::optional<Text> path) override {
        Queues().AnswerNextFileDialog(std::move(path));
    }
    std::vector<FileDialogRequest> FileDialogsShown() override {
        return Queues().FileDialogsShown();
    }
    std::optional<int> ExitRequested() override { return Queues().ExitRequested(); }
    std::optional<Text> LastPopUp() override { return Queues().LastPopUp(); }

  protected:
    virtual AutomationQueues& Queues() = 0;
};

}  // namespace ui
