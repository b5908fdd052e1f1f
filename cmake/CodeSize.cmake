# The programs ship as single static executables, so their size is set here.
# Code is optimised for size in every optimised build (the tests and the
# benchmarks run the code the package ships); the files whose speed the
# benchmarks measure keep -O2 through larkspan_speed_critical(). With MinGW,
# every function and datum gets a section of its own and the linker drops
# those nothing refers to. (GCC 12's link-time optimisation fails on these
# PE targets with an internal compiler error, so it is not used.)
if(NOT MSVC)
  foreach(config RELEASE RELWITHDEBINFO MINSIZEREL)
    string(REGEX REPLACE "-O[0-9s]" "-Os" CMAKE_C_FLAGS_${config} "${CMAKE_C_FLAGS_${config}}")
    string(REGEX REPLACE "-O[0-9s]" "-Os" CMAKE_CXX_FLAGS_${config} "${CMAKE_CXX_FLAGS_${config}}")
  endforeach()
endif()
if(MINGW)
  # No run-time type information either: its type names and tables were some
  # 16 KB of Tessaly, for four casts that the window classes now answer.
  add_compile_options(-ffunction-sections -fdata-sections $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  add_link_options(-Wl,--gc-sections)
endif()

# Sources of the calling directory that keep -O2 in optimised builds.
function(larkspan_speed_critical)
  if(NOT MSVC)
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O2>")
  endif()
endfunction()
