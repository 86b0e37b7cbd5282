// The maps module; its first classes arrive with their features.
namespace velmora::maps {
int ModuleVersion() {
    return 1;
}
} // namespace velmora::maps
