#pragma once

namespace nimbra {

// The program's help as one HTML page, the contents at its top. Every help context number n of
// the controls has the anchor "topic<n>".
const char* HelpHtml();

}  // namespace nimbra
