# Turns the topic table into a C++ source: cmake -DINPUT=topics.txt -DOUTPUT=x.cpp -P embed_topics.cmake
file(READ "${INPUT}" hex HEX)
get_filename_component(inputName "${INPUT}" NAME)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${inputName}; edit that file instead.\n"
    "#include <cstddef>\n\n"
    "extern const char HelpTopicsTable[];\n"
    "extern const std::size_t HelpTopicsTableSize;\n\n"
    "const char HelpTopicsTable[] = {\n${bytes}'\\0'};\n"
    "const std::size_t HelpTopicsTableSize = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
