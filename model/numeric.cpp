// placeholder until the numeric helpers land
