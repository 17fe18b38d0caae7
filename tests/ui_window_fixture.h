#pragma once

// Shared set-up of the main window tests: a QApplication on the offscreen platform, the Qt UI
// loop, a recording diagnostic sink, a scripted host answering the dialogs, a program home and
// the window on it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/studio.h"
#include "project/host.h"
#include "support/temp_dir.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/window/main_window.h"
#include "util/diagnostic_sink.h"

namespace tvx::test {

// The test program's application, made once before the first test and deleted after the
// last one (ui_qt_application_test.cpp), never at exit, when Qt's own globals are gone.
inline void EnsureApplication() {
  if (QApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "ui_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setOrganizationName("tvx880");
    QApplication::setApplicationName("tvx880-studio");
    // The settings store (the recent projects) of this test program only, never the user's.
    static const TempDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.path().string()));
  }
}

inline const std::string& ShippedHome() {
  static const std::string home = std::string(TVX_SOURCE_DIR) + "/data/";
  return home;
}

// A program home in a temporary folder that shares the shipped pictures and library but has
// its own settings file.
class HomeWithSettings {
 public:
  explicit HomeWithSettings(const std::string& settings) {
    namespace fs = std::filesystem;
    for (const char* shared : {"DefaultImageR1", "GUI_Widget_SE", "T880_PCGLB.GLB"}) {
      fs::create_symlink(fs::path(ShippedHome()) / shared, m_temp / shared);
    }
    WriteFileBytes(m_temp / "DPW880.INI", settings);
  }
  std::string dir() const { return m_temp.path().string() + "/"; }

 private:
  TempDir m_temp;
};

// The shipped settings file with some lines replaced ("LANG=0" by "LANG=1", ...).
inline std::string ShippedSettingsWith(
    std::initializer_list<std::pair<std::string, std::string>> replacements) {
  std::string text = ReadFileBytes(ShippedHome() + "DPW880.INI");
  for (const auto& [from, to] : replacements) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

// Runs the Qt loop, as the program's does, until done() answers true or the time is up; answers
// done(). (QTest::qWaitFor sleeps between turns, which would slow every serial event down.)
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  if (done()) {
    return true;
  }
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) {
      loop.quit();
    }
  });
  QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
  check.start(5);
  loop.exec();
  return done();
}

// Made first, so that the application exists before any Qt object of a test.
struct ApplicationGuard {
  ApplicationGuard() { EnsureApplication(); }
};

class WindowTest : public ::testing::Test, private ApplicationGuard {
 protected:
  ~WindowTest() override {
    m_window.reset();
    m_studio.reset();
  }

  // Starts the program on a home, as the program does.
  void open(const std::string& home = ShippedHome()) {
    m_window.reset();
    m_studio = std::make_unique<Studio>(home, &m_host);
    m_window = std::make_unique<TForm1>(*m_studio);
    m_window->show();
    m_window->startUp();
    QCoreApplication::processEvents();
  }

  TForm1& window() { return *m_window; }
  Studio& studio() { return *m_studio; }
  Project& project() { return m_studio->project(); }

  template <typename Control>
  Control* find(const char* name) {
    auto* control = m_window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  // A click as the user makes it, only on a control that can be seen: on a push button's
  // centre, on the mark of a radio button or check box.
  void click(const char* name) {
    auto* button = find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible()) << name << " is hidden";
    const bool marked = qobject_cast<QPushButton*>(button) == nullptr;
    const QPoint at = marked ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
  }
  void doubleClick(QWidget* widget, QPoint at) {
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  }
  QPoint cellCentre(QTableWidget* table, int row, int column) {
    QCoreApplication::processEvents();
    table->scrollToItem(table->item(row, column));
    return table->visualItemRect(table->item(row, column)).center();
  }
  void clickCell(QTableWidget* table, int row, int column) {
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(table, row, column));
  }
  // The press of a double-click lands first, as it does under a real mouse.
  void doubleClickCell(QTableWidget* table, int row, int column) {
    const QPoint at = cellCentre(table, row, column);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
  }

  // Answers the window's next message box with one of its buttons, as the user does; the box's
  // text and button captions are kept in m_questions. The window waits in the box's own loop,
  // so the answer comes from a timer of the window's thread.
  void answerQuestion(QMessageBox::StandardButton answer) {
    m_answers.push_back(answer);
    if (m_questionWatch.isActive()) {
      return;
    }
    QObject::connect(&m_questionWatch, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible() || m_answers.empty()) {
        return;
      }
      QStringList asked{box->text()};
      for (QAbstractButton* button : box->buttons()) {
        asked << button->text();
      }
      m_questions.push_back(asked);
      QAbstractButton* button = box->button(m_answers.front());
      m_answers.pop_front();
      ASSERT_NE(button, nullptr);
      button->click();
    });
    m_questionWatch.start(5);
  }

  QtEventLoop m_loop;
  ScopedUiEventLoop m_scopedLoop{m_loop};
  QTimer m_questionWatch;
  std::deque<QMessageBox::StandardButton> m_answers;
  std::vector<QStringList> m_questions;
  YVclUtil::RecordingDiagnosticSink m_sink;
  YVclUtil::ScopedDiagnosticSink m_scopedSink{m_sink};
  ScriptedHost m_host;
  std::unique_ptr<Studio> m_studio;
  std::unique_ptr<TForm1> m_window;
};

}  // namespace tvx::test
