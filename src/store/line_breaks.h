#pragma once
// The editor keeps one mark per line break and hands its text out with CR LF,
// whatever the file held: CR LF, a lone LF or a lone CR. These give a saved
// document its own line breaks back.
#include "text/text.h"

namespace store {

// The text with every CR LF, lone CR and lone LF written as CR LF: what the
// editor gives back for a document it holds unchanged.
Text WithCrLfBreaks(const Text& text);

// The text to save for `edited` (the editor's text, CR LF breaks) when the
// editor was filled with `original` (the document's text as read):
// - the editor holds the text unchanged: `original` itself, byte for byte;
// - otherwise the longest unchanged beginning and end keep the bytes of
//   `original`, line breaks included, and in the edited part between them
//   every line break takes the form `original` used most (CR LF when it had
//   none; ties go to CR LF, then LF). One edit keeps every other break as it
//   was; between two distant edits the breaks take the common form.
Text RestoreLineBreaks(const Text& original, const Text& edited);

}  // namespace store
