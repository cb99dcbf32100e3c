"""Drawing code for the pictures of Rillmark's windows; see draw_pictures.py."""
