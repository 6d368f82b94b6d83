// Message boxes of the Qt host: OK boxes captioned by kind, the Yes/No/Cancel question, the
// Retry/Cancel question of a failed file operation and the plain window for a long text. Texts
// arrive in UTF-8 and are shown as plain text, never as markup.
#pragma once

#include <string>

#include "common/dialog_host.h"

class QWidget;

void ShowQtMessage(const TMessageRequest& request, QWidget* parent);
// Yes, No, or Cancel (also Escape and closing the box).
TQuestionAnswer AskQtQuestion(const TQuestionRequest& request, QWidget* parent);
// True for Retry.
bool AskQtRetry(const TRetryRequest& request, QWidget* parent);
// A text too long for a message box scrolls in a window of its own, so OK stays on the screen.
void ShowQtLongText(const std::string& text, QWidget* parent);

// Longest text (in lines, in characters) that still goes into a plain message box.
constexpr int kMessageBoxMaxLines = 30;
constexpr int kMessageBoxMaxChars = 3000;
