// Connections are never made; the interfaces exist for applications to name.
#pragma once

#include "java/lang/Exceptions.h"

namespace javax::microedition::io {

class Connection {
public:
    virtual ~Connection() = default;
    virtual void close() = 0;
};

class InputConnection : public virtual Connection {};
class OutputConnection : public virtual Connection {};
class StreamConnection : public InputConnection, public OutputConnection {};
class ContentConnection : public StreamConnection {};
class HttpConnection : public ContentConnection {};

TARVOKIN_EXCEPTION(ConnectionNotFoundException, java::io::IOException,
                   "javax.microedition.io.ConnectionNotFoundException");

}  // namespace javax::microedition::io
