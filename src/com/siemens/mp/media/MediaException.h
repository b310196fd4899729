// The vendor media failure; both constructors drop the message text.
#pragma once

#include <string>

#include "java/lang/Exceptions.h"

namespace com::siemens::mp::media {

class MediaException : public java::lang::Exception {
public:
    MediaException() = default;
    explicit MediaException(const std::string&) {}
    const char* className() const override { return "com.siemens.mp.media.MediaException"; }
};

}  // namespace com::siemens::mp::media
