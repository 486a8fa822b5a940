#pragma once
// Writes runs of formatted text as RTF: ASCII-only output that declares the
// Chinese code page (936), a font table and a colour table, and carries every
// character outside ASCII as \uN with '?' for readers without Unicode.

#include <string>

#include "rtf/rtf_model.h"

namespace paipan::rtf {

std::string SerializeRtf(const RunList& runs);

}  // namespace paipan::rtf
