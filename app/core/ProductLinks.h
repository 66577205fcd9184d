#pragma once
// The product's addresses (home, guide, contact, version page, support mail)
// and the share pages of the two social networks, with their query values
// percent-encoded.
#include <string>

namespace product {

inline constexpr const char* Name = "Tarnello";
inline constexpr const char* Version = "1.0";
inline constexpr const char* HomePage = "https://www.tarnello.org/";
inline constexpr const char* GuidePage = "https://www.tarnello.org/guide/";
inline constexpr const char* ContactPage = "https://www.tarnello.org/contact/";
inline constexpr const char* VersionPage = "https://www.tarnello.org/download/version.html";
// The support mail is the error report's address (ErrorReport.h, SupportAddress).
inline constexpr const char* FirstShareHost = "https://www.facebook.com";
inline constexpr const char* SecondShareHost = "https://twitter.com";
// The share items' captions name their networks.
inline constexpr const char* FirstShareCaption = "Share on Facebook";
inline constexpr const char* SecondShareCaption = "Share on Twitter";

}  // namespace product

// A query value: blanks become "+", everything but unreserved characters
// "%XX", so that no value can end the query early or add a key.
std::string QueryValue(const std::string& Text);
// The first network's share page for the home page ("/sharer.php?u=...").
std::string FirstShareUrl();
// The second network's ("/share?original_referer=...&text=Tarnello").
std::string SecondShareUrl();
// The about window's notice line for a year.
std::string CopyrightNotice(int Year);
