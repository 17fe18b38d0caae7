"""Shared helpers of the generators that make the program home in data/."""
