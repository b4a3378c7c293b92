# One INTERFACE target carries the compile flags every target of the project shares.
add_library(miotlarz_flags INTERFACE)
target_compile_features(miotlarz_flags INTERFACE cxx_std_20)
target_compile_options(miotlarz_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Wno-unused-parameter)
target_compile_definitions(miotlarz_flags INTERFACE _FILE_OFFSET_BITS=64)

# Fails the configure step when a source file of the Qt-free core includes a Qt header,
# so the core/GUI split cannot erode unnoticed.
function(miotlarz_forbid_qt_includes)
  foreach(file IN LISTS ARGN)
    file(STRINGS "${file}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")
    if(hits)
      message(FATAL_ERROR "The core library must not use Qt: ${file}: ${hits}")
    endif()
  endforeach()
endfunction()
