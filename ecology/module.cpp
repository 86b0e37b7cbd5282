// The ecology module; its first classes arrive with their features.
namespace velmora::ecology {
int ModuleVersion() {
    return 1;
}
} // namespace velmora::ecology
