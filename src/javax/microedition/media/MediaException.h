// The media failure. Both constructors drop the message text.
#pragma once

#include <string>

#include "java/lang/Exceptions.h"

namespace javax::microedition::media {

class MediaException : public java::lang::Exception {
public:
    MediaException() = default;
    explicit MediaException(const std::string&) {}
    const char* className() const override { return "javax.microedition.media.MediaException"; }
};

}  // namespace javax::microedition::media
