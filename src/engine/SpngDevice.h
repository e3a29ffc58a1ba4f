#pragma once

#include <QIODevice>

#include <spng.h>

#include <memory>

// libspng over a QIODevice: the owning context and the read callback that
// the row decoders of the engine and of the batch tool share.
namespace SpngDevice {

using Context = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

// libspng's read callback; user is the QIODevice.
inline int read(spng_ctx*, void* user, void* data, size_t length)
{
    auto* device = static_cast<QIODevice*>(user);
    const qint64 got = device->read(static_cast<char*>(data), qint64(length));
    if (got == qint64(length))
        return 0;
    return got < 0 ? SPNG_IO_ERROR : SPNG_IO_EOF;
}

} // namespace SpngDevice
