#pragma once
// The face of the font file that start-up installs. Its family is "Roboto";
// GDI matches requests by family or full name, so the header asks for it
// too rather than for the file's PostScript name "Roboto-Regular", which no
// installed face carries and which would get a substitute.
inline constexpr wchar_t kUiFontFace[] = L"Roboto";
inline constexpr wchar_t kHeaderFontFace[] = L"Roboto";
