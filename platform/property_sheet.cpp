#include "platform/property_sheet.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstddef>

#include "platform/qt_translations.h"
#include "platform/text_codec.h"

namespace {

bool IsEnterOrEscape(const QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const int key = event->key();
  return plain && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter);
}

}  // namespace

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage(int templateId, const QString& title)
    : CDialog(templateId, nullptr), title_(title) {
  if (title_.isEmpty() && GetTemplate() != nullptr) {
    title_ = DecodeText(GetTemplate()->caption, GetTemplate()->codePage);
  }
}

CPropertyPage::~CPropertyPage() {
  // A page that is a member of its sheet dies before the sheet's base part:
  // leave the sheet first, so that it neither reacts to the tab going away
  // nor touches the page again.
  if (sheet_ != nullptr) sheet_->RemovePage(this);
}

bool CPropertyPage::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

void CPropertyPage::DoDataExchange(CDataExchange*) {}

bool CPropertyPage::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool CPropertyPage::OnSetActive() { return true; }

bool CPropertyPage::OnKillActive() { return UpdateData(true); }

bool CPropertyPage::OnApply() {
  OnOK();
  return true;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(bool changed) {
  modified_ = changed;
  if (sheet_ != nullptr) sheet_->UpdateApplyButton();
}

void CPropertyPage::keyPressEvent(QKeyEvent* event) {
  if (IsEnterOrEscape(event)) {
    event->ignore();  // passes on to the sheet
    return;
  }
  CDialog::keyPressEvent(event);
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent),
      tabs_(new QTabWidget(this)),
      okButton_(new QPushButton(QtButtonText("OK"), this)),
      cancelButton_(new QPushButton(QtButtonText("Cancel"), this)),
      applyButton_(new QPushButton(QtButtonText("Apply"), this)) {
  setWindowTitle(caption);
  // Every tab shows its whole title: the sheet grows to the row of tabs
  // rather than hiding tabs behind scroll arrows or eliding their titles.
  tabs_->setUsesScrollButtons(false);
  tabs_->setElideMode(Qt::ElideNone);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {okButton_, cancelButton_, applyButton_}) {
    // Enter is handled by the sheet itself, never by the focused button.
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  okButton_->setDefault(true);
  applyButton_->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(okButton_, &QPushButton::clicked, this, [this] { PressOK(); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { PressCancel(); });
  connect(applyButton_, &QPushButton::clicked, this, [this] { OnApplyNow(); });
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

CPropertySheet::~CPropertySheet() {
  // The pages belong to the derived sheet, which destroys them after this
  // destructor has run; take them out of the widget tree first.
  for (CPropertyPage* page : pages_) {
    page->sheet_ = nullptr;
    page->setParent(nullptr);
  }
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i] != page) continue;
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
    page->sheet_ = nullptr;
    shownIndex_ = -1;
    switching_ = true;
    tabs_->removeTab(static_cast<int>(i));
    switching_ = false;
    return;
  }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->sheet_ = this;
  switching_ = true;  // adding the first tab makes it current
  tabs_->addTab(page, page->Title());
  switching_ = false;
  pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  if (index < 0 || index >= GetPageCount()) return nullptr;
  return pages_[index];
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(shownIndex_); }

int CPropertySheet::GetActiveIndex() const { return shownIndex_; }

QPushButton* CPropertySheet::GetButton(int id) const {
  switch (id) {
    case IDOK:
      return okButton_;
    case IDCANCEL:
      return cancelButton_;
    case ID_APPLY_NOW:
      return applyButton_;
    default:
      return nullptr;
  }
}

bool CPropertySheet::ActivatePage(int index) {
  CPropertyPage* page = GetPage(index);
  if (page == nullptr) return false;
  if (!page->created_) {
    page->created_ = true;
    page->OnInitDialog();
  }
  if (!page->OnSetActive()) return false;
  shownIndex_ = index;
  switching_ = true;
  tabs_->setCurrentIndex(index);
  switching_ = false;
  return true;
}

bool CPropertySheet::SetActivePage(int index) {
  if (GetPage(index) == nullptr) return false;
  if (index == shownIndex_) return true;
  CPropertyPage* shown = GetActivePage();
  if (shown != nullptr && shown->created_ && !shown->OnKillActive()) return false;
  return ActivatePage(index);
}

void CPropertySheet::OnTabChanged(int index) {
  if (switching_ || shownIndex_ < 0) return;
  if (!SetActivePage(index)) {
    // Back to the page that refused to be left (or stays shown).
    switching_ = true;
    tabs_->setCurrentIndex(shownIndex_);
    switching_ = false;
  }
}

int CPropertySheet::DoModal() {
  shownIndex_ = -1;
  for (int i = 0; i < GetPageCount() && shownIndex_ < 0; ++i) ActivatePage(i);
  setModal(true);
  return exec();
}

bool CPropertySheet::ApplyPages() {
  CPropertyPage* shown = GetActivePage();
  if (shown != nullptr && shown->created_ && !shown->OnKillActive()) return false;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = pages_[i];
    if (!page->created_) continue;
    if (!page->OnApply()) {
      // The pages before it are applied already; the sheet shows the one
      // that refused.
      shownIndex_ = i;
      switching_ = true;
      tabs_->setCurrentIndex(i);
      switching_ = false;
      return false;
    }
  }
  for (CPropertyPage* page : pages_) page->modified_ = false;
  UpdateApplyButton();
  return true;
}

void CPropertySheet::UpdateApplyButton() {
  bool any = false;
  for (const CPropertyPage* page : pages_) any = any || page->modified_;
  applyButton_->setEnabled(any);
}

void CPropertySheet::PressOK() {
  if (ApplyPages()) done(IDOK);
}

void CPropertySheet::PressCancel() {
  for (CPropertyPage* page : pages_) {
    if (page->created_) page->OnCancel();
  }
  done(IDCANCEL);
}

void CPropertySheet::OnApplyNow() { ApplyPages(); }

void CPropertySheet::accept() { PressOK(); }

void CPropertySheet::reject() { PressCancel(); }

void CPropertySheet::keyPressEvent(QKeyEvent* event) {
  if (!IsEnterOrEscape(event)) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    PressCancel();
  } else {
    PressOK();
  }
}
