// The standard exception classes the runtime raises or declares.
#pragma once

#include "java/lang/Throwable.h"

namespace java::lang {

TARVOKIN_EXCEPTION(Exception, Throwable, "java.lang.Exception");
TARVOKIN_EXCEPTION(RuntimeException, Exception, "java.lang.RuntimeException");
TARVOKIN_EXCEPTION(IllegalArgumentException, RuntimeException, "java.lang.IllegalArgumentException");
TARVOKIN_EXCEPTION(IllegalStateException, RuntimeException, "java.lang.IllegalStateException");
TARVOKIN_EXCEPTION(NullPointerException, RuntimeException, "java.lang.NullPointerException");
TARVOKIN_EXCEPTION(ArithmeticException, RuntimeException, "java.lang.ArithmeticException");
TARVOKIN_EXCEPTION(IndexOutOfBoundsException, RuntimeException, "java.lang.IndexOutOfBoundsException");
TARVOKIN_EXCEPTION(ArrayIndexOutOfBoundsException, IndexOutOfBoundsException,
                   "java.lang.ArrayIndexOutOfBoundsException");
TARVOKIN_EXCEPTION(StringIndexOutOfBoundsException, IndexOutOfBoundsException,
                   "java.lang.StringIndexOutOfBoundsException");
TARVOKIN_EXCEPTION(ClassCastException, RuntimeException, "java.lang.ClassCastException");
TARVOKIN_EXCEPTION(ClassNotFoundException, Exception, "java.lang.ClassNotFoundException");
TARVOKIN_EXCEPTION(InterruptedException, Exception, "java.lang.InterruptedException");

}  // namespace java::lang

namespace java::io {

TARVOKIN_EXCEPTION(IOException, java::lang::Exception, "java.io.IOException");
TARVOKIN_EXCEPTION(EOFException, IOException, "java.io.EOFException");
TARVOKIN_EXCEPTION(UTFDataFormatException, IOException, "java.io.UTFDataFormatException");

}  // namespace java::io
