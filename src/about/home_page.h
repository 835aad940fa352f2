#pragma once
// The product's web server: the home page is its root, the version page lives
// on the same host and port.
namespace about {

inline constexpr const char* kHomePageAddress = "http://moxia.local:8064/";

}  // namespace about
