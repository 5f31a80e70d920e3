// The program's fixed title: the caption of its own message boxes and of
// the dialog templates, never translated.
#pragma once

namespace kw {

constexpr char kProductCaption[] = "Tarnwell Kelpwise";

}  // namespace kw
