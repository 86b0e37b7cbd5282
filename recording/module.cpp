// The recording module; its first classes arrive with their features.
namespace velmora::recording {
int ModuleVersion() {
    return 1;
}
} // namespace velmora::recording
