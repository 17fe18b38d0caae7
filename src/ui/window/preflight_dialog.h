#pragma once

#include <QDialog>

#include "check/check_report.h"

class QPushButton;
class QTableWidget;

namespace tvx {

// The question a build asks when its pre-flight check found errors or warnings, before anything
// is saved: the findings one a row (severity, role, file, problem, fix) and "Cancel", the
// default (also Escape and closing), or "Build anyway". In the language LANG picks.
class PreflightDialog : public QDialog {
  Q_OBJECT

 public:
  PreflightDialog(const CheckReport& report, unsigned lang, QWidget* parent = nullptr);

  QTableWidget* findingList() const { return m_findings; }
  QPushButton* cancelButton() const { return m_cancel; }
  QPushButton* buildAnywayButton() const { return m_buildAnyway; }

 private:
  void fillFindings(const CheckReport& report, unsigned lang);

  QTableWidget* m_findings = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_buildAnyway = nullptr;
};

// Shows the dialog modally over parent and answers true for "Build anyway". The dialog goes
// with its parent should the window be deleted meanwhile: that answers false.
bool AskToBuildDespite(const CheckReport& report, unsigned lang, QWidget* parent);

}  // namespace tvx
