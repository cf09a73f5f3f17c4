#pragma once

// Where the product lives on the web and how to reach its author.
namespace korvex::links {

inline constexpr const char* webSite = "https://korvex.org/";
inline constexpr const char* faq = "https://korvex.org/faq/";
inline constexpr const char* authorMail = "mailto:author@korvex.org?subject=Korvex";

}  // namespace korvex::links
