// Dialog windows built from the layouts of res/dialogs.h. A CDialog makes
// one child widget per control of its template and addresses them by
// control id; a window derived from it overrides OnInitDialog to fill its
// controls, OnCommand to react to its buttons, and OnOK / OnCancel.
//
// Keys and closing:
//  - Escape runs OnCancel.
//  - Enter runs the command of the template's default push button, or OnOK
//    when the template has none (a focused push button is not pressed by
//    Enter; Space presses it). A multi-line edit keeps Enter for itself.
//  - The close box runs OnCancel while the dialog runs modally; a modeless
//    dialog runs OnClose and closes.
//  - EndDialog ends a modal run with its code; on a modeless dialog it
//    closes the window as the close box does.
#pragma once

#include <QDialog>
#include <QString>
#include <map>

#include "res/dialogs.h"

class QCloseEvent;
class QKeyEvent;

class CDialog : public QDialog {
  Q_OBJECT

 public:
  // Builds the controls of template `templateId`; an unknown id gives an
  // empty dialog.
  CDialog(int templateId, QWidget* parent);
  CDialog(const DialogTemplate* dialogTemplate, QWidget* parent);
  ~CDialog() override;

  // Runs OnInitDialog, then the dialog modally; returns the code given to
  // EndDialog (0 when the run ended any other way).
  int DoModal();
  // Makes the dialog a modeless window owned by `parent` and runs
  // OnInitDialog; the caller shows it.
  bool Create(QWidget* parent);
  void EndDialog(int code);

  virtual bool OnInitDialog();
  virtual void OnOK();      // EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)
  // A click on push button or check box `id`: IDOK runs OnOK and IDCANCEL
  // OnCancel; other ids do nothing unless a derived window handles them.
  virtual void OnCommand(int id);

  // Controls by id: null, empty texts and 0 for an id the dialog lacks.
  QWidget* GetDlgItem(int id) const;
  // Line breaks may be written "\r\n" or "\n"; a multi-line edit gives its
  // lines back joined by "\r\n".
  void SetDlgItemText(int id, const QString& text);
  QString GetDlgItemText(int id) const;
  // The number at the start of the text as atoi reads it: leading blanks,
  // a sign, the digits up to the first other character; 0 without digits,
  // and the nearest int for a number beyond the int range.
  int GetDlgItemInt(int id) const;
  void SetDlgItemInt(int id, int value);
  // Check boxes and radio buttons: 1 checked, 0 not.
  void CheckDlgButton(int id, int check);
  int IsDlgButtonChecked(int id) const;
  void SetWindowText(const QString& text);

  const DialogTemplate* GetTemplate() const { return template_; }
  // The id of the default push button, 0 when there is none.
  int GetDefaultId() const { return defaultId_; }
  bool IsRunningModal() const { return modalRun_; }

  // QDialog's own ways to end the dialog follow OnOK and OnCancel.
  void accept() override;
  void reject() override;

 protected:
  // The close box of a modeless dialog, before it closes.
  virtual void OnClose();

  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();

  const DialogTemplate* template_;
  std::map<int, QWidget*> items_;
  int defaultId_ = 0;
  bool modalRun_ = false;
};

// The text's number as atoi reads it (see GetDlgItemInt).
int ParseLeadingInt(const QString& text);
