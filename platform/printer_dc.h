// Printing: a device context on a printer's pages that draws text, lines
// and pictures with the routines of CDC, and the print dialog that chooses
// the printer. Page sizes and font heights are in the printer's device
// pixels, as HORZRES and VERTRES report them.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "platform/device_context.h"

class QPainter;
class QPrinter;
class QWidget;

class CPrinterDC : public CDC {
 public:
  // The printer must outlive the context.
  explicit CPrinterDC(QPrinter* printer);
  ~CPrinterDC();
  CPrinterDC(const CPrinterDC&) = delete;
  CPrinterDC& operator=(const CPrinterDC&) = delete;

  // The document calls return a positive value on success and 0 or less on
  // failure, as their Windows counterparts do. StartDoc opens the output
  // and begins the first page's painting; each later StartPage starts a
  // new sheet. AbortDoc drops the document; EndDoc finishes it (after an
  // AbortDoc it only closes the context).
  int StartDoc(const QString& documentName);
  int StartPage();
  int EndPage();
  int EndDoc();
  int AbortDoc();

  // Saves the selected pen, brush, font and colours; RestoreDC(-1) puts the
  // last saved set back. SaveDC returns the depth, 0 on failure.
  int SaveDC();
  bool RestoreDC(int saved);

 private:
  struct Saved;
  QPrinter* printer_;
  std::unique_ptr<QPainter> pagePainter_;
  std::unique_ptr<Saved> saved_;
  bool pageOpen_ = false;
  bool pagesPrinted_ = false;
  bool aborted_ = false;
};

// Shows the print dialog for `printer` (no selection or page range; copies
// and collation left to the printer; Qt's print-to-file (PDF) choice among
// the printers). Returns true when the user chose to print.
bool RunPrintDialog(QPrinter& printer, QWidget* parent);

// Replaces the dialog (tests: choose a PDF file and answer at once). The
// hook sets the printer up and returns what the dialog would; an empty
// hook restores the dialog.
using PrintDialogHook = std::function<bool(QPrinter&)>;
void SetPrintDialogHook(PrintDialogHook hook);
