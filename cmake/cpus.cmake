# Reads cmake/cpus.txt, the one table of the CPUs tuition is built for on
# Linux (its comment names the columns). tuition_cpus() sets TUITION_CPUS to
# Debian's names, in the table's order, and for each NAME the variables
# TUITION_CPU_NAME_triple, _qemu, _machine, _rpm, _proof and _packages (a
# list); then tuition_cpu_of(TRIPLE VARIABLE) sets VARIABLE to the Debian
# name of the CPU whose compiler's triple is TRIPLE, or to nothing.
set(TUITION_CPU_TABLE ${CMAKE_CURRENT_LIST_DIR}/cpus.txt)

macro(tuition_cpus)
  file(STRINGS ${TUITION_CPU_TABLE} tuition_cpu_rows REGEX "^[^#]")
  set(TUITION_CPUS)
  foreach(tuition_cpu_row IN LISTS tuition_cpu_rows)
    string(REGEX MATCHALL "[^ ]+" tuition_cpu_fields "${tuition_cpu_row}")
    list(POP_FRONT tuition_cpu_fields tuition_cpu)
    list(APPEND TUITION_CPUS ${tuition_cpu})
    foreach(tuition_cpu_column triple qemu machine rpm proof packages)
      list(POP_FRONT tuition_cpu_fields TUITION_CPU_${tuition_cpu}_${tuition_cpu_column})
    endforeach()
    string(REPLACE "," ";" TUITION_CPU_${tuition_cpu}_packages
                   "${TUITION_CPU_${tuition_cpu}_packages}")
    list(REMOVE_ITEM TUITION_CPU_${tuition_cpu}_packages -)
  endforeach()
endmacro()

function(tuition_cpu_of triple variable)
  set(found)
  foreach(cpu IN LISTS TUITION_CPUS)
    if(TUITION_CPU_${cpu}_triple STREQUAL triple)
      set(found ${cpu})
    endif()
  endforeach()
  set(${variable} ${found} PARENT_SCOPE)
endfunction()
