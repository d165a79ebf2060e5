#pragma once

// The two web pages the panel links to: the product's page (the logo) and
// the donation page (the donate button).

namespace k1links
{
inline constexpr const char* kWebsite = "https://www.quorwen.com/darvello/";
inline constexpr const char* kDonation = "https://www.quorwen.com/darvello/donate/";
} // namespace k1links
