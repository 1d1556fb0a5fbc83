#pragma once

class QPlainTextEdit;

// Gives a memo (notes preview, diary page, the editor's notes) its popup menu: "Cu&t", "&Copy",
// "&Paste", "Se&lect all", then "Add current date" (Ctrl+Alt+D), "Add current time" (Ctrl+Alt+T)
// and "Add current date/time" (Ctrl+Alt+C). The three keys also work while the memo has the
// focus. Each insertion replaces the selection at the caret; a read-only memo is left alone.
void installMemoCommands(QPlainTextEdit* memo);
