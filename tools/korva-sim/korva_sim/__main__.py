import sys

from korva_sim.main import main

sys.exit(main())
