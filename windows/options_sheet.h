// The options sheet: five pages that edit the engine's options (contempt,
// hash size, knowledge, selective search, learning, opening books, piece
// values, endgame tablebase). Each page fills its controls from the
// program-wide engine variables when it is first shown and writes them back
// when the sheet is confirmed with OK; a page never opened writes nothing.
#pragma once

#include <cstdint>

#include "platform/property_sheet.h"
#include "windows/pieces_value_page.h"

// The endgame page's values (kept and written back; no tablebase here).
inline int32_t egDepth = 8;
inline int32_t useEg = 1;

class CGeneralConfigPage : public CPropertyPage {
  Q_OBJECT

 public:
  CGeneralConfigPage();
  bool OnInitDialog() override;
  // Refuses a hash size below 1 MB (silently) or above the physical memory
  // (with a message); otherwise stores the knowledge level and the
  // selective search, then runs OnOK.
  bool OnApply() override;
  // Resizes and clears the hash table when its size was changed, and
  // stores the contempt values.
  void OnOK() override;
  void OnCommand(int id) override;

 private:
  void ShowKnowledgeLabel(int position);
  void PlaceKnowledge(int position);
  void SetLabels();
};

class CLearningPage : public CPropertyPage {
  Q_OBJECT

 public:
  CLearningPage();
  bool OnInitDialog() override;
  // Refuses a size that is not above 0, then runs OnOK.
  bool OnApply() override;
  void OnOK() override;
  // The two checks enable the size; "Total amnesy" asks before it deletes
  // every learning file; "Default" shows the default size.
  void OnCommand(int id) override;

 private:
  void ShowValues(int megabytes);
  void UpdateSizeEnabled();
};

class COpeningBookPage : public CPropertyPage {
  Q_OBJECT

 public:
  COpeningBookPage();
  bool OnInitDialog() override;
  // Stores both books' modes and file names and reloads the books.
  void OnOK() override;
  void OnCommand(int id) override;

 private:
  void ShowBooks();
};

class CEndgamePage : public CPropertyPage {
  Q_OBJECT

 public:
  CEndgamePage();
  bool OnInitDialog() override;
  // Refuses a depth outside 1..255, else stores the depth and the check.
  bool OnApply() override;
  void OnCommand(int id) override;
};

// The entry point of an endgame tablebase library: request 105 answers the
// library's version. No library is part of the program, so it stays null.
inline int32_t (*tablebaseEntry)(int32_t request, int32_t a, int32_t b, int32_t c) = nullptr;

class COptionsSheet : public CPropertySheet {
  Q_OBJECT

 public:
  explicit COptionsSheet(QWidget* parent = nullptr);
  ~COptionsSheet() override;

  // Apply reads the shown page's controls and applies nothing.
  void OnApplyNow() override;

  CPiecesValuePage piecesValuePage;
  CGeneralConfigPage generalPage;
  CLearningPage learningPage;
  COpeningBookPage openingPage;
  CEndgamePage endgamePage;
};

// Runs the options sheet modally over `parent`; IDOK or IDCANCEL.
int RunOptionsSheet(QWidget* parent);
