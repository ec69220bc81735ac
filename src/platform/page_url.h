#pragma once

#include <QString>

namespace gridvane {

// The URL the page is fetched from, and opened at, for the text of the URL box: the text
// without the white space around it. An address that names no scheme, with or without a
// port ("www.example.org/outages.shtml", "localhost:8080/x", "127.0.0.1:8080/x"), is http,
// as a browser's address bar reads it; an absolute path is a local file. Any other text is
// kept as it is, for the caller to use or refuse.
QString pageUrl(const QString& text);

} // namespace gridvane
