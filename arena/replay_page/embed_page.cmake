# Builds the replay page's template from its sources: page.html with the
# stylesheet and the script inlined, as a C++ raw string literal.
# cmake -DSOURCE_DIR=<dir> -DOUTPUT=<file.cpp> -P embed_page.cmake
file(READ "${SOURCE_DIR}/page.html" page)
file(READ "${SOURCE_DIR}/replay.css" css)
file(READ "${SOURCE_DIR}/replay.js" js)

function(inline placeholder content)
  string(FIND "${page}" "${placeholder}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "page.html lacks ${placeholder}")
  endif()
  string(REPLACE "${placeholder}" "${content}" page "${page}")
  set(page "${page}" PARENT_SCOPE)
endfunction()
inline("<link rel=\"stylesheet\" href=\"replay.css\">" "<style>\n${css}</style>")
inline("<script src=\"replay.js\"></script>" "<script>\n${js}</script>")

string(FIND "${page}" "@RECORDING@" marker)
string(FIND "${page}" "@RECORDING@" last REVERSE)
if(marker EQUAL -1 OR NOT marker EQUAL last)
  message(FATAL_ERROR "page.html must hold the marker @RECORDING@ exactly once")
endif()

set(delimiter "marrowlark_page")
string(FIND "${page}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "the page contains the raw string's delimiter")
endif()
file(WRITE "${OUTPUT}.tmp"
     "// Generated from arena/replay_page/page.html, replay.css and replay.js.\n"
     "#include \"replay_page/page_template.h\"\n\n"
     "namespace arena {\n\n"
     "std::string_view ReplayPageTemplate() {\n"
     "  return R\"${delimiter}(${page})${delimiter}\";\n"
     "}\n\n"
     "}  // namespace arena\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
