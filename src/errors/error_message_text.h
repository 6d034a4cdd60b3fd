// The text an error is shown and logged with: one line per variable that carries something.
#pragma once

#include "errors/text_builder.h"
#include "runtime/tb28run.h"

// The text the handler shows, on its way to becoming a string: never longer than a string may be.
class MessageText : public TextBuilder<2048> {
 public:
  MessageText() : TextBuilder(TB_MAX_STRING) {}
};

// A string value; every line ends with CR LF.
Usual ErrorMessageText(Usual error);
// The same text, added to one the caller goes on with. Should memory run short it stops where
// it ran out (text.Cut()).
void AddErrorMessageText(MessageText& text, Usual error);
