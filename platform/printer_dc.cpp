// The printer context paints each page through one QPainter on the
// QPrinter, in device pixels; a page is begun by the painter itself (the
// first) or by QPrinter::newPage (the others).
#include "platform/printer_dc.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <vector>

struct CPrinterDC::Saved {
  struct State {
    CPen pen;
    CBrush brush;
    CFont font;
    COLORREF text, bk;
    int mode;
  };
  std::vector<State> states;
};

CPrinterDC::CPrinterDC(QPrinter* printer) : printer_(printer), saved_(std::make_unique<Saved>()) {}

CPrinterDC::~CPrinterDC() {
  if (pagePainter_ != nullptr && pagePainter_->isActive()) pagePainter_->end();
}

int CPrinterDC::StartDoc(const QString& documentName) {
  if (printer_ == nullptr || pagePainter_ != nullptr) return 0;
  printer_->setDocName(documentName);
  pagePainter_ = std::make_unique<QPainter>();
  if (!pagePainter_->begin(printer_)) {
    pagePainter_.reset();
    return 0;
  }
  // The painter's origin is the printable area's corner; the device's
  // width and height are that area's.
  AttachPainter(pagePainter_.get(), printer_->width(), printer_->height(), printer_->resolution());
  pageOpen_ = false;
  pagesPrinted_ = false;
  aborted_ = false;
  return 1;
}

int CPrinterDC::StartPage() {
  if (pagePainter_ == nullptr || aborted_ || pageOpen_) return 0;
  if (pagesPrinted_ && !printer_->newPage()) return 0;
  pageOpen_ = true;
  return 1;
}

int CPrinterDC::EndPage() {
  if (pagePainter_ == nullptr || aborted_ || !pageOpen_) return 0;
  pageOpen_ = false;
  pagesPrinted_ = true;
  return 1;
}

int CPrinterDC::AbortDoc() {
  if (pagePainter_ == nullptr) return 0;
  printer_->abort();
  aborted_ = true;
  return 1;
}

int CPrinterDC::EndDoc() {
  if (pagePainter_ == nullptr) return 0;
  const bool ok = pagePainter_->end() && !aborted_;
  AttachPainter(nullptr, 0, 0, 96);
  pagePainter_.reset();
  return ok ? 1 : 0;
}

int CPrinterDC::SaveDC() {
  Saved::State s{GetPen(), GetBrush(), GetFont(), 0, 0, 0};
  s.text = SetTextColor(0);
  SetTextColor(s.text);
  s.bk = SetBkColor(0);
  SetBkColor(s.bk);
  s.mode = SetBkMode(OPAQUE);
  SetBkMode(s.mode);
  saved_->states.push_back(s);
  return static_cast<int>(saved_->states.size());
}

bool CPrinterDC::RestoreDC(int saved) {
  auto& states = saved_->states;
  const int depth = static_cast<int>(states.size());
  const int target = saved < 0 ? depth + saved + 1 : saved;
  if (target < 1 || target > depth) return false;
  const Saved::State s = states[target - 1];
  states.resize(target - 1);
  SelectPen(s.pen);
  SelectBrush(s.brush);
  SelectFont(s.font);
  SetTextColor(s.text);
  SetBkColor(s.bk);
  SetBkMode(s.mode);
  return true;
}

namespace {
PrintDialogHook& Hook() {
  static PrintDialogHook hook;
  return hook;
}
}  // namespace

void SetPrintDialogHook(PrintDialogHook hook) { Hook() = std::move(hook); }

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
  if (Hook()) return Hook()(printer);
  QPrintDialog dialog(&printer, parent);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  // Printing to a PDF file, also the only choice where no printer is
  // installed.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
  return dialog.exec() == QDialog::Accepted;
}
