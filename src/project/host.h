#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "project/project.h"

// How the program's operations talk to the person in front of it: plain message boxes, the
// file and colour dialogs, and short pauses. The window installs Qt dialogs, the command-line
// tool prints messages to stderr and cancels dialogs, tests record and script the answers.
namespace tvx {

// What a file dialog is opened with.
struct FileDialogRequest {
  std::string title;             // empty: the toolkit's own title
  std::string filter;            // "TVX-880 Project File (*.ql3)|*.ql3"
  std::string initialDirectory;  // empty: where the dialog was left last time
  std::string fileName;          // proposed file name, may be empty
  std::string defaultExtension;  // without dot, for save dialogs
  // The LANG of the words the dialog adds of its own: save dialogs ask before they replace an
  // existing file.
  unsigned language = 1;
};

class Host {
 public:
  virtual ~Host() = default;
  // A plain message box with an OK button; returns when dismissed.
  virtual void showMessage(const std::string& caption, const std::string& text) = 0;
  // Open and save dialogs: the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
  // The colour dialog: the chosen colour, or nothing when cancelled.
  virtual std::optional<Colour> chooseColour(Colour initial) = 0;
  // A pause the window makes so that the user sees a step finish (sleeps by default).
  virtual void pause(std::chrono::milliseconds duration);
  // The language of the messages the indicator's tools only ever wrote in English (loading and
  // saving a project, the start-up's library message): the window keeps them English whatever
  // LANG says; the command line writes them in Chinese when asked to. 0 English, else Chinese.
  virtual unsigned plainMessageLanguage() const { return 0; }
};

// For the command-line tool: messages go to stderr as "caption: text" (through write when
// given), dialogs are cancelled, pauses are skipped.
class StderrHost : public Host {
 public:
  using LineWriter = std::function<void(const std::string& line)>;
  explicit StderrHost(LineWriter write = {}) : m_write(std::move(write)) {}
  void showMessage(const std::string& caption, const std::string& text) override;
  std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
  std::optional<Colour> chooseColour(Colour initial) override;
  void pause(std::chrono::milliseconds duration) override;

 private:
  LineWriter m_write;
};

// Records everything shown and asked, and answers dialogs from queues filled beforehand (an
// empty queue cancels). Pauses are recorded, not waited.
class ScriptedHost : public Host {
 public:
  struct Message {
    std::string caption;
    std::string text;
  };

  void showMessage(const std::string& caption, const std::string& text) override;
  std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
  std::optional<Colour> chooseColour(Colour initial) override;
  void pause(std::chrono::milliseconds duration) override;

  void answerOpenFile(std::optional<std::string> path) { m_openAnswers.push_back(path); }
  void answerSaveFile(std::optional<std::string> path) { m_saveAnswers.push_back(path); }
  void answerColour(std::optional<Colour> colour) { m_colourAnswers.push_back(colour); }

  const std::vector<Message>& messages() const { return m_messages; }
  const std::vector<FileDialogRequest>& fileRequests() const { return m_fileRequests; }
  const std::vector<std::chrono::milliseconds>& pauses() const { return m_pauses; }
  void clear();

 private:
  std::vector<Message> m_messages;
  std::vector<FileDialogRequest> m_fileRequests;
  std::vector<std::chrono::milliseconds> m_pauses;
  std::deque<std::optional<std::string>> m_openAnswers;
  std::deque<std::optional<std::string>> m_saveAnswers;
  std::deque<std::optional<Colour>> m_colourAnswers;
};

}  // namespace tvx
