// The operating system's handle of an open file or folder.

#ifndef BRIMWALD_IO_NATIVE_HANDLE_H_
#define BRIMWALD_IO_NATIVE_HANDLE_H_

namespace brimwald {

#ifdef _WIN32
using NativeHandle = void*;  // HANDLE
#else
using NativeHandle = int;  // file descriptor
#endif

}  // namespace brimwald

#endif  // BRIMWALD_IO_NATIVE_HANDLE_H_
