// The squares module; its first classes arrive with their features.
namespace velmora::squares {
int ModuleVersion() {
    return 1;
}
} // namespace velmora::squares
