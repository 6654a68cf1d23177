// The embedded content library holds only resources; this file gives it an object.
namespace {
[[maybe_unused]] constexpr int kEmbeddedContentAnchor = 0;
}
