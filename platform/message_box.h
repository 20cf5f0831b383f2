// Message boxes of the program: one service over QMessageBox with the
// program's caption, that tests answer through messageBoxHook.
#pragma once

#include <QString>

class QWidget;

// The caption of every message box.
inline constexpr const char* kMessageBoxCaption = "Vorelk";

// Buttons of a message box and the codes it returns.
enum MessageBoxButtons : int { kMessageBoxOk = 0, kMessageBoxOkCancel = 1, kMessageBoxYesNo = 4 };
// Added to the buttons: the box shows the exclamation icon.
inline constexpr int kMessageBoxIconExclamation = 0x30;
enum MessageBoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// The least width of a window whose title bar, drawn by the window
// manager, shows `title` whole: the title in a bold title-bar font (grown
// as a somewhat larger desktop font would draw it) beside the bar's icon
// and its three buttons.
int TitleBarMinimumWidth(const QString& title);

// When set, answers every message box instead of showing it, with the code
// of the button the user would press.
inline int (*messageBoxHook)(const QString& text, int buttons) = nullptr;

// Shows `text` modally over `parent` (null: no owner) under `caption`
// (null: kMessageBoxCaption) and returns the code of the button pressed;
// closing a yes/no box without a choice answers no, an OK/Cancel box
// cancel. The box is at least TitleBarMinimumWidth of its caption wide,
// however short its text.
int ShowMessageBox(QWidget* parent, const QString& text, int buttons = kMessageBoxOk,
                   const char* caption = nullptr);
