# Run as a script (cmake -P) by qap_embed_images: writes OUTPUT, a C++ file
# that holds the PNG files of BITMAPS and ICONS ("id=path" each, separated
# by ";") as bytes, and a function FUNCTION returning them as image
# resources of the window system.
function(qap_embed_list kind list out)
  set(entries "")
  set(data "")
  foreach(pair IN LISTS list)
    string(REPLACE "=" ";" parts "${pair}")
    list(GET parts 0 id)
    list(GET parts 1 file)
    file(READ "${file}" hex HEX)
    string(LENGTH "${hex}" length)
    math(EXPR size "${length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND data "const unsigned char k${kind}${id}[] = {${bytes}};\n")
    string(APPEND entries "      {${id}, k${kind}${id}, ${size}},\n")
  endforeach()
  set(${out}_data "${data}" PARENT_SCOPE)
  set(${out}_entries "${entries}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" bitmap_list "${BITMAPS}")
string(REPLACE "|" ";" icon_list "${ICONS}")
qap_embed_list(Bitmap "${bitmap_list}" bitmaps)
qap_embed_list(Icon "${icon_list}" icons)
file(WRITE "${OUTPUT}.tmp"
"// Made from PNG files by qap_embed_images at build time.
#include \"platform/ui/resources.h\"

namespace {
${bitmaps_data}${icons_data}}  // namespace

void ${FUNCTION}(ui::res::ModuleResources* resources) {
  resources->bitmaps = {
${bitmaps_entries}  };
  resources->icons = {
${icons_entries}  };
}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
