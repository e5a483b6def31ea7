// The boot logo. Nothing is drawn until an embedded logo image exists.
namespace tavlin {

void draw_boot_logo() {}

}  // namespace tavlin
