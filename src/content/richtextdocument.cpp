#include "content/richtextdocument.h"

namespace ledsign {

RichTextDocument::~RichTextDocument() = default;

} // namespace ledsign
