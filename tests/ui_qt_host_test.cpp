#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/qt/qt_host.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

// Answers the dialogs as they come up: each file dialog with a file name (or cancels it when
// there is none left), each question with a press of the button that bears the given words;
// the questions asked are kept.
class DialogAnswers {
 public:
  DialogAnswers(std::deque<QString> files, std::deque<QString> presses)
      : m_files(std::move(files)), m_presses(std::move(presses)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
    m_timer.start(10);
  }
  const std::vector<QString>& questions() const { return m_questions; }

 private:
  void answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      if (m_files.empty()) {
        dialog->reject();
        return;
      }
      // Typed, as selectFile leaves a name field that has the focus alone.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      if (name == nullptr) {
        dialog->reject();
        return;
      }
      name->setText(m_files.front());
      m_files.pop_front();
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its override
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      QStringList words;
      for (QAbstractButton* button : box->buttons()) {
        words << button->text();
      }
      m_questions.push_back(box->text() + " [" + words.join('|') + "]");
      QString press;
      if (!m_presses.empty()) {
        press = m_presses.front();
        m_presses.pop_front();
      }
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == press) {
          button->click();
          return;
        }
      }
      box->reject();
    }
  }

  std::deque<QString> m_files;
  std::deque<QString> m_presses;
  std::vector<QString> m_questions;
  QTimer m_timer;
};

class QtHostTest : public ::testing::Test, private ApplicationGuard {
 protected:
  FileDialogRequest request(unsigned lang) const {
    return {"", "TVX-880 Project File (*.ql3)|*.ql3", m_dir.path().string(), "", "ql3", lang};
  }

  TempDir m_dir;
  QtHost m_host;
};

TEST_F(QtHostTest, ASaveDialogAsksBeforeReplacingAFileInTheProgramsLanguage) {
  const QString site = QString::fromStdString((m_dir / "site.ql3").string());
  WriteFileBytes(site.toStdString(), "the site's project");
  {
    // Keeping the file goes back to the dialog; there a new name is taken without a question.
    DialogAnswers answers({site, site, QString::fromStdString((m_dir / "new.ql3").string())},
                          {"Keep it", "Keep it"});
    EXPECT_EQ(m_host.chooseSaveFile(request(0)), (m_dir / "new.ql3").string());
    ASSERT_EQ(answers.questions().size(), 2u);
    EXPECT_EQ(answers.questions()[0],
              "\"site.ql3\" already exists.\nDo you want to replace it? [Replace|Keep it]");
  }
  {
    DialogAnswers answers({site}, {"取代"});
    EXPECT_EQ(m_host.chooseSaveFile(request(1)), site.toStdString());
    ASSERT_EQ(answers.questions().size(), 1u);
    EXPECT_EQ(answers.questions()[0], "\"site.ql3\" 已存在。\n要取代它嗎? [取代|不要取代]");
  }
  {
    // Escape keeps the file too; cancelling the dialog then answers nothing.
    DialogAnswers answers({site}, {});
    EXPECT_EQ(m_host.chooseSaveFile(request(0)), std::nullopt);
    EXPECT_EQ(answers.questions().size(), 1u);
  }
  EXPECT_EQ(ReadFileBytes(site.toStdString()), "the site's project");
}

}  // namespace
}  // namespace tvx::test
