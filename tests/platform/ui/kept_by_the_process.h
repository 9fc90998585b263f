// What a UI test process makes once and keeps for its life: made by a case before it becomes
// another user (tests/support/another_user.h), so that no case reads it as that user. The font map
// opens each face's file the first time the face is measured, and keeps what it found.
#pragma once

#include "platform/storage/bundle.h"
#include "platform/ui/text/font_faces.h"
#include "platform/ui/text/ui_font.h"

inline void keptByTheProcess() {
    NSBundle::mainBundle();
    for (const auto& face : fontFaces())
        if (auto font = UIFont::fontWithName(face.name, 12)) (void)font->capHeight();
}
