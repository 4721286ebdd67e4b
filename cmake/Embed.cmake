# rosgen_embed_lines(INPUT OUTPUT)
# Writes every line of INPUT that is neither empty nor a "#" comment into OUTPUT as a C string
# literal followed by a comma, so data files are compiled into the program:
#   const char* const kRows[] = {
#   #include "netcom.inc"
#   };
function(rosgen_embed_lines input output)
  file(STRINGS "${input}" lines ENCODING UTF-8)
  set(body "// Generated from ${input}; edit that file instead.\n")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(stripped STREQUAL "" OR stripped MATCHES "^#")
      continue()
    endif()
    string(REPLACE "\\" "\\\\" line "${line}")
    string(REPLACE "\"" "\\\"" line "${line}")
    string(APPEND body "\"${line}\",\n")
  endforeach()
  file(CONFIGURE OUTPUT "${output}" CONTENT "${body}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${input}")
endfunction()

# rosgen_embed_text(INPUT OUTPUT NAME)
# Writes the whole of INPUT into OUTPUT as `constexpr std::string_view NAME`, a raw string literal.
function(rosgen_embed_text input output name)
  file(READ "${input}" text)
  if(text MATCHES "\\)rosgen\"")
    message(FATAL_ERROR "${input} holds the raw string's end mark")
  endif()
  set(body "// Generated from ${input}; edit that file instead.\nconstexpr std::string_view ${name} = R\"rosgen(${text})rosgen\";\n")
  file(CONFIGURE OUTPUT "${output}" CONTENT "${body}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${input}")
endfunction()
