# Copies the product's skin archives, when the cross build has made them,
# into the seeds of the skin-archive fuzzer.
foreach(name skin.zip skin_2x.zip)
  if(EXISTS "${FROM}/${name}")
    file(COPY_FILE "${FROM}/${name}" "${TO}/product_${name}")
  endif()
endforeach()
