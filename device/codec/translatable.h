// Marks a text for translation where a face shows it. This part of the program has no
// Qt: the mark is the text itself, for the translation tools to find; the faces look it
// up in the user's language under the context given.
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif
