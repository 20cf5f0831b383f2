// Property sheets: a modal window of tabbed pages with OK, Cancel and Apply.
//
// Each page is a CDialog built from its template. A page is created (its
// OnInitDialog runs, filling the controls from its members) the first time
// its tab is shown; pages never shown keep their members untouched.
// Leaving a page or pressing OK or Apply first asks the shown page to read
// its controls back (OnKillActive); a page that refuses keeps the sheet on
// it. OK and Apply then apply the created pages in tab order (OnApply); a
// page that refuses keeps the sheet open on that page. Cancel changes
// nothing further and ends the sheet.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "platform/data_exchange.h"
#include "platform/dialog.h"

class QKeyEvent;
class QPushButton;
class QTabWidget;
class CPropertySheet;

class CPropertyPage : public CDialog {
  Q_OBJECT

 public:
  // The tab shows `title`, or the template's caption when it is empty.
  explicit CPropertyPage(int templateId, const QString& title = QString());
  ~CPropertyPage() override;

  // Runs DoDataExchange: saveAndValidate true reads the controls into the
  // members and returns false when a field is refused; false writes the
  // members into the controls.
  bool UpdateData(bool saveAndValidate);
  virtual void DoDataExchange(CDataExchange* dx);

  // Fills the controls from the members.
  bool OnInitDialog() override;
  // The page is about to be shown; false keeps it hidden.
  virtual bool OnSetActive();
  // The page is about to be left, or OK or Apply was pressed while it is
  // shown: reads the controls back; false refuses.
  virtual bool OnKillActive();
  // OK or Apply: runs OnOK, returns true; false refuses and keeps the sheet
  // open on this page.
  virtual bool OnApply();
  // Called by OnApply; a page whose members are its result does nothing.
  void OnOK() override;
  // The sheet was cancelled.
  void OnCancel() override;

  // A page with unapplied changes enables the sheet's Apply button.
  void SetModified(bool changed = true);
  bool IsModified() const { return modified_; }
  bool IsCreated() const { return created_; }
  CPropertySheet* GetParentSheet() const { return sheet_; }
  const QString& Title() const { return title_; }

 protected:
  // Enter and Escape belong to the sheet.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class CPropertySheet;
  CPropertySheet* sheet_ = nullptr;
  QString title_;
  bool created_ = false;
  bool modified_ = false;
};

// The Apply button's id; OK and Cancel are IDOK and IDCANCEL, also the
// result codes of DoModal.
inline constexpr int ID_APPLY_NOW = 12321;

class CPropertySheet : public QDialog {
  Q_OBJECT

 public:
  CPropertySheet(const QString& caption, QWidget* parent);
  ~CPropertySheet() override;

  // Adds a page as the last tab. The sheet does not own its pages.
  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  CPropertyPage* GetPage(int index) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  // Shows page `index`, leaving the shown page first; false when that page
  // refused to be left or the new one to be shown.
  bool SetActivePage(int index);

  // Runs the sheet modally from the first page; IDOK or IDCANCEL.
  int DoModal();

  // The buttons. OK and Cancel end the sheet unless a page refuses; Apply
  // applies without closing.
  void PressOK();
  void PressCancel();
  virtual void OnApplyNow();

  QTabWidget* GetTabControl() const { return tabs_; }
  QPushButton* GetButton(int id) const;

  void accept() override;
  void reject() override;

 protected:
  // Leaves the shown page, then applies every created page in tab order;
  // false when a page refused (the sheet shows that page).
  bool ApplyPages();
  // Enables Apply while some page is modified.
  void UpdateApplyButton();

  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class CPropertyPage;
  void RemovePage(CPropertyPage* page);
  void OnTabChanged(int index);
  bool ActivatePage(int index);

  std::vector<CPropertyPage*> pages_;
  QTabWidget* tabs_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* applyButton_;
  int shownIndex_ = -1;  // the page whose tab is shown, -1 before the run
  bool switching_ = false;
};
