# Gives a Windows executable its "CLDATA" resource. TARGET links as usual into
# a stage folder; the tool reads that link's DWARF and symbols and writes the
# block; FINAL links TARGET's object files once more with the block as a
# resource, stripped. The resource lands behind the code, so code addresses
# do not move: a check after the link compares the code of both. OPTIONS
# names a report-options file, relative to the calling folder, whose settings
# (src/crash/options/CrashOptionsFile.h) replace the defaults in the block;
# editing it writes the block again.
#   brenvik_embed_cldata(TARGET Brenvik)                      -> Brenvik_cldata, bin/Brenvik.exe
#   brenvik_embed_cldata(TARGET stage FINAL my_tests)         -> bin/my_tests.exe
#   brenvik_embed_cldata(TARGET Brenvik OPTIONS app/crash-options.ini)
function(brenvik_embed_cldata)
  cmake_parse_arguments(arg "" "TARGET;FINAL;OPTIONS" "" ${ARGN})
  set(target ${arg_TARGET})
  if(NOT BRENVIK_HOST_BIN_DIR)
    message(WARNING "BRENVIK_HOST_BIN_DIR is not set: ${target} is built without its CLDATA block")
    return()
  endif()
  if(arg_FINAL)
    set(final ${arg_FINAL})
    set(output_name ${arg_FINAL})
  else()
    set(final ${target}_cldata)
    set(output_name ${target})
  endif()
  set(tool ${BRENVIK_HOST_BIN_DIR}/tools/cldata/cldata)
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${target}.stage)
  set(options_file)
  set(options_args)
  if(arg_OPTIONS)
    get_filename_component(options_file ${arg_OPTIONS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set(options_args --options ${options_file})
  endif()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${stage})
  add_custom_command(OUTPUT ${stage}/cldata.bin ${stage}/cldata.rc
    COMMAND ${tool} embed --exe $<TARGET_FILE:${target}> --objdump ${CMAKE_OBJDUMP}
            --block ${stage}/cldata.bin --rc ${stage}/cldata.rc ${options_args}
    DEPENDS ${target} ${tool} ${options_file}
    COMMENT "Writing the CLDATA block of ${output_name}"
    VERBATIM)
  add_executable(${final} $<TARGET_OBJECTS:${target}> ${stage}/cldata.rc)
  get_target_property(gui ${target} WIN32_EXECUTABLE)
  set_target_properties(${final} PROPERTIES OUTPUT_NAME ${output_name} WIN32_EXECUTABLE ${gui})
  target_link_libraries(${final} PRIVATE $<TARGET_PROPERTY:${target},LINK_LIBRARIES>)
  target_link_options(${final} PRIVATE $<TARGET_PROPERTY:${target},LINK_OPTIONS> -s)
  add_custom_command(TARGET ${final} POST_BUILD
    COMMAND ${tool} compare-code $<TARGET_FILE:${target}> $<TARGET_FILE:${final}>
    VERBATIM)
endfunction()
