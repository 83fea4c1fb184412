# embed_sql(target file...): a static library exposing each SQL file as
#   extern const char* const setupxfer_sql_<basename>;
function(embed_sql target)
  set(out ${CMAKE_BINARY_DIR}/embedded_sql.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DFILES=${ARGN}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedSqlGen.cmake
    DEPENDS ${ARGN} ${CMAKE_SOURCE_DIR}/cmake/EmbedSqlGen.cmake
    VERBATIM)
  add_library(${target} STATIC ${out})
endfunction()
