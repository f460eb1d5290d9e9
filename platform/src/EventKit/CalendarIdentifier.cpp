#include "CalendarIdentifier.h"

#include <glib.h>

#include <array>
#include <cstdint>
#include <cstdio>

namespace eventkit {
namespace {

// 6ba7b811-9dad-11d1-80b4-00c04fd430c8, RFC 4122's namespace for URLs.
constexpr std::array<std::uint8_t, 16> urlNamespace
    = { 0x6b, 0xa7, 0xb8, 0x11, 0x9d, 0xad, 0x11, 0xd1, 0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8 };

} // namespace

std::string nameBasedIdentifier(std::string_view name)
{
    GChecksum* checksum = g_checksum_new(G_CHECKSUM_SHA1);
    g_checksum_update(checksum, urlNamespace.data(), urlNamespace.size());
    g_checksum_update(checksum, reinterpret_cast<const guchar*>(name.data()), static_cast<gssize>(name.size()));
    std::array<std::uint8_t, 20> digest {};
    gsize length = digest.size();
    g_checksum_get_digest(checksum, digest.data(), &length);
    g_checksum_free(checksum);

    digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0F) | 0x50); // version 5
    digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3F) | 0x80); // RFC 4122 variant
    std::string text;
    char hex[3];
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        std::snprintf(hex, sizeof hex, "%02X", digest[i]);
        text += hex;
    }
    return text;
}

std::string deviceCalendarName(std::string_view folderName)
{
    return "x-dayglass-calendar:" + std::string(folderName);
}

std::string hostCalendarName(std::string_view absolutePath)
{
    return "file://" + std::string(absolutePath);
}

} // namespace eventkit
